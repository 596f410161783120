#include "framework/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner != nullptr) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const noexcept {
  const auto found = std::find_if(FComponents.begin(), FComponents.end(),
                                  [name](const TComponent* component) { return component->Name() == name; });
  return found == FComponents.end() ? nullptr : *found;
}

void TComponent::ApplySpec(const TControlSpec&, TForm&) {}

void TComponent::DestroyComponents() noexcept {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;  // already out of our list; it must not look for itself there
    delete last;
  }
}

void TComponent::RemoveComponent(TComponent* component) noexcept {
  std::erase(FComponents, component);
}
