#pragma once
// Runs the system profiler for one data type and parses its report.
#include <memory>

#include "ZuzaduduRez/OutputTree.hpp"
#include "ZuzaduduRez/Service.hpp"

namespace ZuzaduduRez {

class IProfilerController {
public:
    virtual ~IProfilerController() = default;
    /// The parsed report; blocks until the command has ended.
    virtual std::shared_ptr<OutputTree> run() = 0;
};

class ProfilerController : public IProfilerController {
public:
    explicit ProfilerController(std::shared_ptr<Service> service) : service(std::move(service)) {}

    std::shared_ptr<Service> service;

    /// Runs "system_profiler <name>" through the shell; a command that fails gives an empty tree.
    std::shared_ptr<OutputTree> run() override;
};

}  // namespace ZuzaduduRez
