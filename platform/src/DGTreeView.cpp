#include <map>
#include <vector>

#include "DGModel.hpp"

// Tree views, kept by dialog id and item id apart from the dialogs themselves.
namespace DG
{

namespace
{

struct TreeNode
{
    std::int32_t parent = TreeItemNone;
    std::vector<std::int32_t> children;
    std::int64_t userData = 0;
    GS::UniString text;
    short icon = 0;
    short style = 0;
    bool expanded = false;
};

struct TreeView
{
    std::map<std::int32_t, TreeNode> nodes {{TreeItemRoot, TreeNode {}}};
    std::int32_t lastItem = TreeItemRoot;
    std::int32_t selected = TreeItemNone;
    int drawDisabled = 0;
};

std::map<std::pair<short, short>, TreeView>& TreeViews()
{
    static std::map<std::pair<short, short>, TreeView> views;
    return views;
}

TreeNode* FindTreeNode(short dialogId, short item, std::int32_t treeItem)
{
    auto& views = TreeViews();
    const auto view = views.find({dialogId, item});
    if (view == views.end()) return nullptr;
    const auto node = view->second.nodes.find(treeItem);
    return node == view->second.nodes.end() ? nullptr : &node->second;
}

std::int32_t NextSibling(short dialogId, short item, const TreeNode& node, std::int32_t treeItem)
{
    const TreeNode* parent = FindTreeNode(dialogId, item, node.parent);
    if (parent == nullptr) return TreeItemNone;
    const auto& siblings = parent->children;
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
        if (siblings[i] == treeItem) return siblings[i + 1];
    return TreeItemNone;
}

}  // namespace

std::int32_t TreeViewInsertItem(short dialogId, short item, std::int32_t parent, std::int32_t position)
{
    if (position != TreeInsertFirst && position != TreeInsertLast) return TreeItemNone;
    TreeView& view = TreeViews()[{dialogId, item}];
    const auto parentNode = view.nodes.find(parent);
    if (parentNode == view.nodes.end()) return TreeItemNone;
    const std::int32_t added = ++view.lastItem;
    auto& children = parentNode->second.children;
    children.insert(position == TreeInsertFirst ? children.begin() : children.end(), added);
    view.nodes[added].parent = parent;
    return added;
}

// The tree's drawing state outlives its items.
void TreeViewDeleteAllItems(short dialogId, short item)
{
    TreeView& view = TreeViews()[{dialogId, item}];
    const int drawDisabled = view.drawDisabled;
    view = TreeView {};
    view.drawDisabled = drawDisabled;
}

std::int32_t TreeViewGetItem(short dialogId, short item, std::int32_t treeItem, short relation)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    if (node == nullptr) return TreeItemNone;
    if (relation == TreeFirstChild) return node->children.empty() ? TreeItemNone : node->children.front();
    if (relation == TreeNextSibling) return NextSibling(dialogId, item, *node, treeItem);
    return TreeItemNone;
}

void TreeViewSetItemUserData(short dialogId, short item, std::int32_t treeItem, std::int64_t userData)
{
    if (TreeNode* node = FindTreeNode(dialogId, item, treeItem)) node->userData = userData;
}

std::int64_t TreeViewGetItemUserData(short dialogId, short item, std::int32_t treeItem)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    return node == nullptr ? 0 : node->userData;
}

void TreeViewSetItemText(short dialogId, short item, std::int32_t treeItem, const GS::UniString& text)
{
    if (TreeNode* node = FindTreeNode(dialogId, item, treeItem)) node->text = text;
}

GS::UniString TreeViewGetItemText(short dialogId, short item, std::int32_t treeItem)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    return node == nullptr ? GS::UniString() : node->text;
}

void TreeViewSetItemIcon(short dialogId, short item, std::int32_t treeItem, short icon)
{
    if (TreeNode* node = FindTreeNode(dialogId, item, treeItem)) node->icon = icon;
}

short TreeViewGetItemIcon(short dialogId, short item, std::int32_t treeItem)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    return node == nullptr ? 0 : node->icon;
}

void TreeViewExpandItem(short dialogId, short item, std::int32_t treeItem, bool expand)
{
    if (TreeNode* node = FindTreeNode(dialogId, item, treeItem)) node->expanded = expand;
}

bool TreeViewIsItemExpanded(short dialogId, short item, std::int32_t treeItem)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    return node != nullptr && node->expanded;
}

void TreeViewSetItemStyle(short dialogId, short item, std::int32_t treeItem, short style)
{
    auto& views = TreeViews();
    const auto view = views.find({dialogId, item});
    if (view == views.end()) return;
    if (treeItem == TreeItemRoot)
    {
        for (auto& [number, node] : view->second.nodes) node.style = style;
        return;
    }
    if (TreeNode* node = FindTreeNode(dialogId, item, treeItem)) node->style = style;
}

short TreeViewGetItemStyle(short dialogId, short item, std::int32_t treeItem)
{
    const TreeNode* node = FindTreeNode(dialogId, item, treeItem);
    return node == nullptr ? 0 : node->style;
}

void TreeViewSelectItem(short dialogId, short item, std::int32_t treeItem)
{
    TreeView& view = TreeViews()[{dialogId, item}];
    view.selected = view.nodes.count(treeItem) != 0 && treeItem != TreeItemRoot ? treeItem : TreeItemNone;
}

std::int32_t TreeViewGetSelectedItem(short dialogId, short item)
{
    auto& views = TreeViews();
    const auto view = views.find({dialogId, item});
    return view == views.end() ? TreeItemNone : view->second.selected;
}

void TreeViewDisableDraw(short dialogId, short item) { ++TreeViews()[{dialogId, item}].drawDisabled; }

void TreeViewEnableDraw(short dialogId, short item)
{
    TreeView& view = TreeViews()[{dialogId, item}];
    if (view.drawDisabled > 0) --view.drawDisabled;
}

// A headless tree has nothing to draw.
void TreeViewRedraw(short, short) {}

bool TreeViewIsDrawEnabled(short dialogId, short item)
{
    auto& views = TreeViews();
    const auto view = views.find({dialogId, item});
    return view == views.end() || view->second.drawDisabled == 0;
}

namespace Model
{

void ForgetTreeViews() { TreeViews().clear(); }

}  // namespace Model

}  // namespace DG
