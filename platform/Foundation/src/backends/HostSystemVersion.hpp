#pragma once
// The running system as it names itself: the distribution's name and version from os-release
// (/etc/os-release, else /usr/lib/os-release, under the system root; a regular file of at most
// 64 KiB) and the kernel's release.
#include <string>

namespace hostsystem {

/// "Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64"; "Linux, kernel ..." without os-release.
std::string versionText();

}  // namespace hostsystem
