# The manual's source without its shortcut table's rows, for a build without the windows
# whose menus they are read from: cmake -D IN=MANUAL.md -D OUT=OUTPUT.md -P this file.
file(READ ${IN} text)
string(REPLACE "{shortcuts}\n" "" text "${text}")
file(WRITE ${OUT} "${text}")
