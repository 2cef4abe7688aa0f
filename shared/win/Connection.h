#pragma once

namespace stickwell::win {

// Whether the system believes this machine has a connection to the Internet (a configured network
// with a route out, a modem or a proxy). Cheap and local: no request is made.
bool IsConnected();

}  // namespace stickwell::win
