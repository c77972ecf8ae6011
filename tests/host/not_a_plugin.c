/* A library that loads fine but offers none of the plug-in's four exports. */
int NotAPlugin(void) { return 0; }
