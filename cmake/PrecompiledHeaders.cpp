// The one source of the targets that own the shared precompiled headers (see
// PrecompiledHeaders.cmake): a target needs a source for CMake to compile its header.
