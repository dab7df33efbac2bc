#include "engine/com_apartment.h"

#ifdef _WIN32
#include <objbase.h>
#endif

namespace engine {

ComApartment::~ComApartment() {
  Leave();
}

void ComApartment::Enter() {
  if (entered_)
    return;
#ifdef _WIN32
  CoInitialize(nullptr);
#endif
  entered_ = true;
}

void ComApartment::Leave() {
  if (!entered_)
    return;
#ifdef _WIN32
  CoUninitialize();
#endif
  entered_ = false;
}

}  // namespace engine
