// A library for the foreign-call tests: stdcall and cdecl exports with 0 to 8 parameters,
// results of every shape, and a call counter that shows whether a call happened.
#include <windows.h>

#include <cstdint>
#include <initializer_list>

namespace {

uint32_t g_calls = 0;

// Folds the parameters in order, so a lost, extra or swapped word changes the result.
uint32_t Mix(std::initializer_list<uint32_t> words) {
  ++g_calls;
  uint32_t mix = 7;
  for (uint32_t word : words) mix = mix * 31 + word;
  return mix;
}

const char kAnsiText[] = "ansi text";
const wchar_t kWideText[] = L"wide \u00fc\u4e2d";

}  // namespace

extern "C" {

__declspec(dllexport) uint32_t __stdcall StdMix0() { return Mix({}); }
__declspec(dllexport) uint32_t __stdcall StdMix1(uint32_t a) { return Mix({a}); }
__declspec(dllexport) uint32_t __stdcall StdMix2(uint32_t a, uint32_t b) { return Mix({a, b}); }
__declspec(dllexport) uint32_t __stdcall StdMix3(uint32_t a, uint32_t b, uint32_t c) {
  return Mix({a, b, c});
}
__declspec(dllexport) uint32_t __stdcall StdMix4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return Mix({a, b, c, d});
}
__declspec(dllexport) uint32_t
    __stdcall StdMix5(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
  return Mix({a, b, c, d, e});
}
__declspec(dllexport) uint32_t
    __stdcall StdMix6(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
  return Mix({a, b, c, d, e, f});
}
__declspec(dllexport) uint32_t __stdcall StdMix7(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                 uint32_t e, uint32_t f, uint32_t g) {
  return Mix({a, b, c, d, e, f, g});
}
__declspec(dllexport) uint32_t __stdcall StdMix8(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                 uint32_t e, uint32_t f, uint32_t g, uint32_t h) {
  return Mix({a, b, c, d, e, f, g, h});
}

__declspec(dllexport) uint32_t __cdecl CdeclMix0() { return Mix({}); }
__declspec(dllexport) uint32_t __cdecl CdeclMix1(uint32_t a) { return Mix({a}); }
__declspec(dllexport) uint32_t __cdecl CdeclMix2(uint32_t a, uint32_t b) { return Mix({a, b}); }
__declspec(dllexport) uint32_t __cdecl CdeclMix3(uint32_t a, uint32_t b, uint32_t c) {
  return Mix({a, b, c});
}
__declspec(dllexport) uint32_t __cdecl CdeclMix4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return Mix({a, b, c, d});
}
__declspec(dllexport) uint32_t
    __cdecl CdeclMix5(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
  return Mix({a, b, c, d, e});
}
__declspec(dllexport) uint32_t
    __cdecl CdeclMix6(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
  return Mix({a, b, c, d, e, f});
}
__declspec(dllexport) uint32_t __cdecl CdeclMix7(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                 uint32_t e, uint32_t f, uint32_t g) {
  return Mix({a, b, c, d, e, f, g});
}
__declspec(dllexport) uint32_t __cdecl CdeclMix8(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                 uint32_t e, uint32_t f, uint32_t g, uint32_t h) {
  return Mix({a, b, c, d, e, f, g, h});
}

// Returns its parameter unchanged: shows the word a script value became.
__declspec(dllexport) uint32_t __stdcall Echo(uint32_t word) { return word; }

__declspec(dllexport) uint32_t __cdecl CallCount() { return g_calls; }

__declspec(dllexport) int32_t __stdcall ReturnMinusOne() { return -1; }
__declspec(dllexport) uint32_t __stdcall ReturnAllBits() { return 0xFFFFFFFFu; }
__declspec(dllexport) const char* __stdcall ReturnAnsi() { return kAnsiText; }
__declspec(dllexport) const wchar_t* __stdcall ReturnWide() { return kWideText; }

// A float result travels in ST(0), not in EAX.
__declspec(dllexport) double __cdecl ReturnDouble() { return 2.5; }

// Sets the last error and returns it, so the error read after the call can be compared.
__declspec(dllexport) uint32_t __stdcall SetErrorAndReturn(uint32_t code) {
  SetLastError(code);
  return code;
}

}  // extern "C"
