#pragma once
// The kernel's basic result and count types, shared by the stand-ins that answer in the kernel's
// own shapes (host information here; the device registry may use them too).

using kern_return_t = int;
using mach_msg_type_number_t = unsigned int;
constexpr kern_return_t KERN_SUCCESS = 0;
constexpr kern_return_t KERN_FAILURE = 5;
