#include "framework/component.h"

#include <algorithm>

#include "framework/form_reader.h"

namespace stampwell {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_) {
    auto& list = owner_->components_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : components_) {
    if (c->name_ == name) return c;
  }
  return nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    delete last;  // its destructor takes it off the list
  }
}

bool TComponent::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Tag") {
    tag_ = context.Integer(value);
    return true;
  }
  return false;
}

void TComponent::ReadChild(TComponent* child, FormReadContext& context) {
  if (context.IsControl(child)) context.Fail(Name() + " cannot hold the control " + child->Name());
}

}  // namespace stampwell
