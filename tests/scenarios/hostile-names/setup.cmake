# Names that hold "\\", which Linux allows in a file name: read back as paths they
# would lead out of the game folder. Where the old reading would have looked for a
# file, a harmless twin lies, so that only the write would have gone astray.
file(WRITE "${game}/qel2_data/orig_..\\..\\outside\\x.txt" "Hostile backup.\r\n")
file(WRITE "${game}/mods/daymode\\..\\..\\..\\outside\\evil_moddef.txt" "")
set(gamedata "${game}/qel2_data/default/gamedata")
file(MAKE_DIRECTORY "${gamedata}/daymode" "${game}/qel2_data/outside")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/varnix.txt"
     "${gamedata}/daymode\\..\\..\\..\\outside\\x_gamefile.txt")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/varnix.txt" "${game}/qel2_data/outside/x_gamefile.txt")
