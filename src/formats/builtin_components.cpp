#include "formats/builtin_components.h"

#include <string>

#include "base/text.h"

namespace formats {

namespace {

TreeNodeData Node(const char* utf8Text, const char* data1, int image) {
  TreeNodeData node;
  // The texts below are fixed and all have a Windows-1251 form.
  node.text = base::Utf8ToCp1251(utf8Text).value();
  node.data1 = data1;
  node.imageIndex = image;
  node.selectedIndex = image;
  node.checkboxType = 1;
  node.stateIndex = 1;  // what the tree view gives every node with a check box
  return node;
}

}  // namespace

std::vector<TreeNodeData> BuiltinComponentTree() {
  TreeNodeData windows = Node("Windows", "win", 8);
  windows.children = {
      Node("Панель управления", "", 9),
      Node("Установка и удаление программ", "", 12),
      Node("Система", "", 10),
      Node("Принтеры", "", 11),
      Node("Сетевые подключения", "", 13),
      Node("Выполнить", "", 16),
      Node("Свернуть все окна", "", 17),
      Node("Поиск файлов", "", 22),
      Node("Корзина", "", 14),
  };
  TreeNodeData computer = Node("Компьютер", "comp", 0);
  computer.children = {
      Node("Выключить", "", 2),
      Node("Перезагрузить", "", 3),
      Node("Завершить сеанс", "", 4),
  };
  return {windows, computer};
}

}  // namespace formats
