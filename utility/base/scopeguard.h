// Scope guards that release resources on every exit path.
#pragma once
#include <windows.h>

#include <utility>

// Runs a callable when the scope ends, unless dismissed.
template <typename F>
class ScopeGuard {
 public:
  explicit ScopeGuard(F action) : action_(std::move(action)) {}
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  ~ScopeGuard() {
    if (active_) action_();
  }
  void Dismiss() { active_ = false; }

 private:
  F action_;
  bool active_ = true;
};

template <typename F>
ScopeGuard<F> MakeScopeGuard(F action) {
  return ScopeGuard<F>(std::move(action));
}

// Owns a kernel handle; both null and INVALID_HANDLE_VALUE count as empty.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return Valid(); }
  HANDLE Release() {
    HANDLE h = handle_;
    handle_ = nullptr;
    return h;
  }
  void Reset(HANDLE handle = nullptr) {
    if (Valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Balances a successful CoInitialize/OleInitialize with its matching uninitialise call
// (CoUninitialize or OleUninitialize); a failed initialisation is not balanced.
class ComInitGuard {
 public:
  using Uninitialize = void(WINAPI*)();
  ComInitGuard(HRESULT hr, Uninitialize uninitialize)
      : uninitialize_(SUCCEEDED(hr) ? uninitialize : nullptr) {}
  ComInitGuard(const ComInitGuard&) = delete;
  ComInitGuard& operator=(const ComInitGuard&) = delete;
  ~ComInitGuard() {
    if (uninitialize_) uninitialize_();
  }
  bool Initialised() const { return uninitialize_ != nullptr; }

 private:
  Uninitialize uninitialize_;
};

// Holds one reference to a COM interface and releases it when the scope ends.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already holds.
  explicit ComRef(T* pointer) : pointer_(pointer) {}
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }
  T* operator->() const { return pointer_; }
  T* Get() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  T** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  // Releases the held reference and takes over another one (or none).
  void Reset(T* pointer = nullptr) {
    if (pointer_) pointer_->Release();
    pointer_ = pointer;
  }

 private:
  T* pointer_ = nullptr;
};

// Frees a library loaded with LoadLibrary.
class LibraryGuard {
 public:
  explicit LibraryGuard(HMODULE module) : module_(module) {}
  LibraryGuard(const LibraryGuard&) = delete;
  LibraryGuard& operator=(const LibraryGuard&) = delete;
  ~LibraryGuard() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE Get() const { return module_; }

 private:
  HMODULE module_;
};
