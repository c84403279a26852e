#pragma once
// A shell tree on a form of its own for the tree's tests and benchmark, and scratch folder
// trees to show in it.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/forms.h"
#include "shellbrowse/tree/shell_tree.h"

namespace stampwell::testing {

// The protected steps that the tests drive directly.
class TTestShellTree : public TPTShellTree {
 public:
  using TPTShellTree::TPTShellTree;
  using TPTShellTree::DeviceChange;
  using TPTShellTree::ShowShellContextMenu;
  using TPTShellTree::SortChildren;
};

// The options that the folder browse window gives its tree.
inline TPTShellTreeOptions BrowseWindowOptions() {
  return {ptstoVirtualFolders, ptstoDesignInteractive, ptstoContextMenus, ptstoDynamicRefresh};
}

class ShellTreeHost {
 public:
  explicit ShellTreeHost(TPTShellTreeOptions options = BrowseWindowOptions()) : form(nullptr) {
    form.SetBounds(10, 10, 320, 420);
    tree = new TTestShellTree(&form);
    tree->SetOptions(options);
    tree->SetBounds(0, 0, 300, 400);
    tree->SetShowRoot(true);
    tree->SetHideSelection(false);
    tree->SetParent(&form);
    form.HandleNeeded();
  }
  // The base folder by path.
  void SetBase(const std::string& path) {
    TPTShellLocator base;
    base.SetPath(path);
    tree->BaseFolder().Assign(&base);
  }
  TForm form;
  TTestShellTree* tree;
};

inline std::vector<std::string> ChildTexts(TTreeNode* parent) {
  std::vector<std::string> texts;
  for (TTreeNode* n = parent ? parent->GetFirstChild() : nullptr; n; n = n->GetNextSibling()) texts.push_back(n->Text());
  return texts;
}

inline TTreeNode* ChildNamed(TTreeNode* parent, const std::string& text) {
  for (TTreeNode* n = parent ? parent->GetFirstChild() : nullptr; n; n = n->GetNextSibling()) {
    if (n->Text() == text) return n;
  }
  return nullptr;
}

inline void MakeFolder(const std::string& path, DWORD attributes = 0) {
  CreateDirectoryA(path.c_str(), nullptr);
  if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

}  // namespace stampwell::testing
