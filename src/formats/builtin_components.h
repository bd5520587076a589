#pragma once
// The components tree as it stands before the user has saved one: the
// "Windows" group (Data1 "win") with its nine components and the "Компьютер"
// group (Data1 "comp") with three, every node with an unticked check box.
#include <vector>

#include "formats/tree_file.h"

namespace formats {

// Texts in Windows-1251, as a tree file holds them.
std::vector<TreeNodeData> BuiltinComponentTree();

}  // namespace formats
