#pragma once
// Events: an object and one of its member functions, two words, no heap. An event
// that was never bound is "unset" and calling it does nothing, so a component may
// fire its events without asking first.

class TComponent;

template <typename... Args>
class TEvent {
 public:
  using TTrampoline = void (*)(void* object, Args... args);

  constexpr TEvent() noexcept = default;

  // TEvent<...>::Bind<&TfrmShredder::btnWipeClick>(this)
  template <auto Method, typename Object>
  static TEvent Bind(Object* object) noexcept {
    return TEvent(object, [](void* self, Args... args) { (static_cast<Object*>(self)->*Method)(args...); });
  }

  bool Assigned() const noexcept { return FCall != nullptr; }
  explicit operator bool() const noexcept { return Assigned(); }
  void Clear() noexcept { *this = TEvent(); }

  void operator()(Args... args) const {
    if (FCall != nullptr) FCall(FObject, args...);
  }

 private:
  constexpr TEvent(void* object, TTrampoline call) noexcept : FObject(object), FCall(call) {}

  void* FObject = nullptr;
  TTrampoline FCall = nullptr;
};

// The sender is always the component that fires the event.
using TNotifyEvent = TEvent<TComponent*>;
