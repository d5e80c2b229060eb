# The game's maps folder is a link to a folder outside the game folder.
file(CREATE_LINK "../../../../outside/maps" "${game}/qel2_data/default/gamedata/maps" SYMBOLIC)
