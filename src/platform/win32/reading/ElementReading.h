#pragma once

#include "capture/ElementReader.h"
#include "capture/ReadWorkers.h"

namespace mirufon::win32
{

// One read of the element at the request's point, as a worker does it: the control there,
// then the readers in their order; progress hears of a long text on its way. COM must be
// initialised on the calling thread.
ElementTexts ReadElementAt(const ReadRequest& request, ReadProgress& progress);

} // namespace mirufon::win32
