# The log is gone; the game's program folder now lies beside the game folder, reached
# through a link, as a player who moved part of the game to another disk has it.
file(REMOVE "${game}/Quill.log")
file(RENAME "${game}/qel2_program" "${outside}/qel2_program")
file(CREATE_LINK "../outside/qel2_program" "${game}/qel2_program" SYMBOLIC)
