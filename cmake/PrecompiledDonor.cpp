// The unit that makes the libraries' precompiled header (cmake/Precompiled.cmake); it adds no code.
