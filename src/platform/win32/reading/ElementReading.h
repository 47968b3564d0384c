#pragma once

#include "capture/ReadOutcome.h"
#include "capture/ReadWorkers.h"
#include "capture/ReaderChain.h"

namespace mirufon::win32
{

// One read of the element at the request's point, as a worker does it: the control there,
// then the readers in their order; progress hears of a long text on its way. COM must be
// initialised on the calling thread.
ElementTexts ReadElementAt(const ReadRequest& request, ReadProgress& progress);

// What a read worker runs: the read the request asks for, the element's texts or a harvest's
// result. Progress hears of a long text on its way, or every so often that a harvest's items
// arrive, and is asked whether a harvest is to stop.
ReadContent ReadAtPoint(const ReadRequest& request, ReadProgress& progress);

} // namespace mirufon::win32
