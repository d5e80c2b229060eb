# Between the runs the player moves the folder the mod wrote into off the game folder
# and leaves a link in its place.
set(later "${game}/qel2_data/default/gamedata/later")
file(MAKE_DIRECTORY "${outside}")
file(RENAME "${later}" "${outside}/later")
file(CREATE_LINK "../../../../outside/later" "${later}" SYMBOLIC)
