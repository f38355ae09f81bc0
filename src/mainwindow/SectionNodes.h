// SectionNodes: the fixed nodes of the main window's section tree, in their order (which is also
// each node's index, from 1), and the keys of the tree's pictures.
#pragma once

#include <QString>

#include <vector>

struct SectionNode {
    enum class TextFrom { Given, TableTitle };
    int parent = 0;  // index of the parent node; 0 for a top node
    QString key;     // empty for a group; "title" nodes take the table's title as text
    QString text;
    QString image;  // key of the tree's image list
    TextFrom textFrom = TextFrom::Given;
    bool connectionsTable = false;  // the key is the database's connections table
};

// The 52 nodes, node 1 first.
const std::vector<SectionNode>& SectionNodes();
// The tree's 16 image keys, in the image list's order.
const std::vector<QString>& SectionImageKeys();
// The number of nodes of the first group ("Commesse" and its children), after which a first
// build selects node 1.
inline constexpr int kFirstGroupNodes = 5;
