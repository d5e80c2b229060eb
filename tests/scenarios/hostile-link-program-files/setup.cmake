# Quill.log is a link to a file beside the game folder.
file(CREATE_LINK "../outside/log.txt" "${game}/Quill.log" SYMBOLIC)
