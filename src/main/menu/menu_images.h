#pragma once
// The 24 built-in 16x16 pictures of the menus, the trees and the tray icon,
// each drawn for its role (index: role):
//  0 Computer group head        1 group of links        2 shut down
//  3 restart                    4 log off               5 the program, launcher on (tray)
//  6 the program, launcher off  7 folder                8 Windows group head
//  9 Control Panel             10 System               11 Printers
// 12 Add or remove programs    13 Network connections  14 Recycle Bin
// 15 new link                  16 Run                  17 minimise all windows
// 18 DOS program               19 programs (exclusion lists)  20 links
// 21 settings                  22 file search          23 recent documents
#include <vector>

#include "framework/image_list.h"

std::vector<fw::Image> BuiltinMenuImages();
