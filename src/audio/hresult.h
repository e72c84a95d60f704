#pragma once

#include <cstdint>

// Result codes of the sound layer: negative means failure.
using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
constexpr HRESULT DS_NO_VIRTUALIZATION = static_cast<HRESULT>(0x0878000Au);

inline bool failed(HRESULT hr) { return hr < 0; }

// Codes of the sound device beyond the common ones.
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);     // no sound output
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);    // format not playable
constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u); // same as E_INVALIDARG
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);  // not possible for this buffer
constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000Au);    // the output is already in use
