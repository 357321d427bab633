#pragma once
// Whether the machine can reach the network at all.

namespace ZuzeDiv {

class Reachability {
public:
    Reachability() = delete;

    /// True when the network is reachable without first establishing a connection.
    static bool isConnectedToNetwork();
};

}  // namespace ZuzeDiv
