#include "shared/win/Connection.h"

#include <windows.h>
#include <wininet.h>

namespace stickwell::win {

bool IsConnected() {
  DWORD flags = 0;
  return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

}  // namespace stickwell::win
