#include "framework/Component.h"

#include "framework/Event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records its own destruction in a shared log.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, std::string name, std::vector<std::string>& log) : TComponent(owner), FLog(log) {
    SetName(name);
  }
  ~TProbe() override { FLog.push_back(Name()); }

 private:
  std::vector<std::string>& FLog;
};

TEST(ComponentTest, AnOwnerDeletesWhatItOwnsNewestFirstAndDownTheTree) {
  std::vector<std::string> destroyed;
  {
    TProbe root(nullptr, "root", destroyed);
    auto* panel = new TProbe(&root, "panel", destroyed);
    new TProbe(panel, "label", destroyed);
    new TProbe(&root, "button", destroyed);
    EXPECT_EQ(root.ComponentCount(), 2);
    EXPECT_EQ(root.FindComponent("button"), root.Components(1));
    EXPECT_EQ(root.FindComponent("label"), nullptr) << "only its own components";
    EXPECT_EQ(panel->Owner(), &root);
  }
  EXPECT_EQ(destroyed, (std::vector<std::string>{"root", "button", "panel", "label"}));
}

TEST(ComponentTest, AComponentDeletedEarlyLeavesItsOwnersList) {
  std::vector<std::string> destroyed;
  {
    TProbe root(nullptr, "root", destroyed);
    auto* first = new TProbe(&root, "first", destroyed);
    new TProbe(&root, "second", destroyed);
    delete first;
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.FindComponent("first"), nullptr);
  }
  EXPECT_EQ(destroyed, (std::vector<std::string>{"first", "root", "second"}));
}

struct TListener {
  std::vector<std::pair<TComponent*, int>> Calls;
  void Changed(TComponent* sender) { Calls.push_back({sender, 0}); }
  void Moved(TComponent* sender, int x) { Calls.push_back({sender, x}); }
};

TEST(EventTest, AnUnsetEventIsDistinctAndCallingItDoesNothing) {
  TNotifyEvent event;
  EXPECT_FALSE(event.Assigned());
  EXPECT_FALSE(event);
  event(nullptr);  // must simply return
}

TEST(EventTest, ABoundEventCallsItsObjectsMemberWithTheSenderFirst) {
  TListener listener;
  TComponent sender(nullptr);
  auto changed = TNotifyEvent::Bind<&TListener::Changed>(&listener);
  const auto moved = TEvent<TComponent*, int>::Bind<&TListener::Moved>(&listener);
  ASSERT_TRUE(changed.Assigned());
  changed(&sender);
  moved(&sender, 42);
  EXPECT_EQ(listener.Calls, (std::vector<std::pair<TComponent*, int>>{{&sender, 0}, {&sender, 42}}));

  changed.Clear();
  changed(&sender);
  EXPECT_EQ(listener.Calls.size(), 2u);
}

}  // namespace
