// The shared library's code comes from ruko_core; CMake needs one source of its own here.
