// Releases a COM interface pointer when the scope ends.
#pragma once

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }
  T* operator->() const { return pointer_; }
  T* Get() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  T** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }

 private:
  T* pointer_ = nullptr;
};
