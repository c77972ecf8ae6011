# Fresh directories for the velmora-host runs: a copy of the plug-in beside the tests' own
# Velmora.cfg (the plug-in reads the file beside itself), a game's folder with the program and the
# simulated driver side by side, and an empty place for the summaries.
file(REMOVE_RECURSE "${PLUGIN_DIR}" "${RUN_DIR}" "${GAME_DIR}")
file(MAKE_DIRECTORY "${PLUGIN_DIR}" "${RUN_DIR}" "${GAME_DIR}")
file(COPY "${HOST}" "${DRIVER}" DESTINATION "${GAME_DIR}")
file(COPY "${PLUGIN}" DESTINATION "${PLUGIN_DIR}")
file(COPY_FILE "${CONFIG}" "${PLUGIN_DIR}/Velmora.cfg")
