#include "automation/com/apartment.h"

#ifdef _WIN32
#include <objbase.h>
#endif

namespace automation::com {

Apartment::Apartment() {
#ifdef _WIN32
  // S_FALSE (already a single-threaded apartment) still has to be balanced by an uninitialise.
  entered_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
#endif
}

Apartment::~Apartment() {
#ifdef _WIN32
  if (entered_)
    CoUninitialize();
#endif
}

}  // namespace automation::com
