# The game is reached through a link beside it; the Day Mode mod is kept beside the
# game and linked into its mods folder; the game data lies in another folder of the
# game, reached through a link.
file(MAKE_DIRECTORY "${outside}")
file(RENAME "${game}/mods/daymode" "${outside}/daymode")
file(CREATE_LINK "../../outside/daymode" "${game}/mods/daymode" SYMBOLIC)
file(MAKE_DIRECTORY "${game}/storage")
file(RENAME "${game}/qel2_data/default/gamedata" "${game}/storage/gamedata")
file(CREATE_LINK "../../storage/gamedata" "${game}/qel2_data/default/gamedata" SYMBOLIC)
file(CREATE_LINK "game" "${WORK}/gamelink" SYMBOLIC)
