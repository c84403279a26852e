#pragma once
// The process's one imaging factory (WIC). Loading its library and making the factory is the
// dearest part of reading a PNG, so it is done once, on first use, and the factory serves every
// later reading on any thread (the factory is free-threaded).

#include <windows.h>
#include <wincodec.h>

namespace stampwell {

// The factory, made on the first call whose thread has COM started; null while it cannot be made
// (a later call tries again). Not to be released by the caller: it lives as long as the process.
IWICImagingFactory* ImagingFactory();

}  // namespace stampwell
