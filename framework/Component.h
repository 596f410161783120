#pragma once
// The base of everything placed on a form: a name, a tag, and an owner. A component
// made with an owner is created with new and belongs to that owner, which deletes it
// (and everything it owns in turn) when the owner itself goes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TForm;
struct TControlSpec;

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const noexcept { return FName; }
  void SetName(std::string_view name) { FName = name; }
  std::intptr_t Tag() const noexcept { return FTag; }
  void SetTag(std::intptr_t tag) noexcept { FTag = tag; }

  TComponent* Owner() const noexcept { return FOwner; }
  int ComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<std::size_t>(index)); }
  TComponent* FindComponent(std::string_view name) const noexcept;

  // Called once, after every stored property of the form's layout has been applied,
  // on every component the layout made (and last on the form itself).
  virtual void Loaded() {}

  // Takes this component's stored properties from its row of a form's layout. The
  // form has set the name already; kinds with properties of their own override this.
  virtual void ApplySpec(const TControlSpec& stored, TForm& form);

 protected:
  // Deletes the owned components, the newest first: a later one may lean on an
  // earlier one (a label on a panel), never the other way round.
  void DestroyComponents() noexcept;

 private:
  void RemoveComponent(TComponent* component) noexcept;

  std::string FName;
  std::intptr_t FTag = 0;
  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
};
