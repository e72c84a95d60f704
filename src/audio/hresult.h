#pragma once

#include <cstdint>

// Result codes of the sound layer: negative means failure. The codes keep
// their Windows values and names in lower camel case (S_OK is sOk,
// DSERR_BUFFERLOST dsErrBufferLost), so they never meet the platform's macros.
using HResult = std::int32_t;

constexpr HResult sOk = 0;
constexpr HResult sFalse = 1;
constexpr HResult eFail = static_cast<HResult>(0x80004005u);
constexpr HResult eInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult eOutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult coENotInitialized = static_cast<HResult>(0x800401F0u);
constexpr HResult dsErrBufferLost = static_cast<HResult>(0x88780096u);
constexpr HResult dsNoVirtualization = static_cast<HResult>(0x0878000Au);

inline bool failed(HResult hr) { return hr < 0; }

// Codes of the sound device beyond the common ones.
constexpr HResult dsErrNoDriver = static_cast<HResult>(0x88780078u);     // no sound output
constexpr HResult dsErrBadFormat = static_cast<HResult>(0x88780064u);    // format not playable
constexpr HResult dsErrInvalidParam = static_cast<HResult>(0x80070057u); // same as eInvalidArg
constexpr HResult dsErrInvalidCall = static_cast<HResult>(0x88780032u);  // not possible for this buffer
constexpr HResult dsErrAllocated = static_cast<HResult>(0x8878000Au);    // the output is already in use
