#pragma once
// The roots of the class tree: TObject (the sender of every event), TPersistent and
// TComponent, which owns components: an owner frees what it owns, in the reverse order of
// creation, and a component freed on its own leaves its owner's list.

#include <string>
#include <vector>

namespace stampwell {

class FormReadContext;
struct FormValue;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

class TPersistent : public TObject {};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  const std::vector<TComponent*>& Components() const { return components_; }
  // The owned component of this name, or null.
  TComponent* FindComponent(const std::string& name) const;
  // Frees every owned component now, newest first.
  void DestroyComponents();

  // Takes one property of a form resource. Returns false for a name it does not know; a
  // value of the wrong kind is an error raised through `context`.
  virtual bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context);
  // Places a component read as a nested object of this one (a control on its parent, an item
  // in its menu). The default accepts non-visual components, which need no placing.
  virtual void ReadChild(TComponent* child, FormReadContext& context);
  // Called once the whole form has been read and all references are resolved.
  virtual void Loaded() {}
  // True while a form reader gives the component its properties, until just before Loaded.
  bool Loading() const noexcept { return loading_; }
  void SetLoading(bool loading) noexcept { loading_ = loading; }

 private:
  TComponent* owner_;
  std::string name_;
  int tag_ = 0;
  bool loading_ = false;
  std::vector<TComponent*> components_;
};

}  // namespace stampwell
