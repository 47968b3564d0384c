#pragma once

#include "capture/ReadWorkers.h"
#include "capture/ReaderChain.h"

namespace mirufon::win32
{

// One read of the element at the request's point, as a worker does it: the control there,
// then the readers in their order; progress hears of a long text on its way. COM must be
// initialised on the calling thread.
ElementTexts ReadElementAt(const ReadRequest& request, ReadProgress& progress);

// The harvest at the request's point, as a worker does it: progress hears every so often that
// items arrive, and is asked whether to stop. COM must be initialised on the calling thread.
HarvestResult HarvestAtRequest(const ReadRequest& request, ReadProgress& progress);

// What a read worker runs: the read the request asks for.
ReadResult ReadAtPoint(const ReadRequest& request, ReadProgress& progress);

} // namespace mirufon::win32
