# The program folder is back; the settings, the user profile and the program's scratch
# file are links to files beside the game folder, which the program replaces with
# files of its own instead of writing through them.
file(REMOVE "${game}/qel2_program" "${game}/quill.ini")
file(RENAME "${outside}/qel2_program" "${game}/qel2_program")
file(REMOVE "${game}/qel2_program/qel/userprofile.txt")
file(CREATE_LINK "../../../outside/profile.txt" "${game}/qel2_program/qel/userprofile.txt" SYMBOLIC)
file(CREATE_LINK "../outside/settings.txt" "${game}/quill.ini" SYMBOLIC)
file(CREATE_LINK "../outside/scratch.txt" "${game}/temp.tmp" SYMBOLIC)
