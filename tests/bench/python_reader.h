// Runs python_per_byte_reader.py on a port as a child process and talks to it over a pipe.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class PythonReader {
public:
    // Starts the reader on the port at `path` for `count` bytes and waits until it has the port
    // open. Throws if it cannot start or says something else.
    PythonReader(const std::string& path, std::size_t count);
    ~PythonReader();
    PythonReader(const PythonReader&) = delete;
    PythonReader& operator=(const PythonReader&) = delete;

    // Waits until the reader is done; returns how many bytes it got (0 if it failed).
    std::size_t WaitDone();
    // After WaitDone: the bytes it got.
    std::vector<std::uint8_t> TakeReceived();

private:
    std::string ReadLine();

    pid_t pid_ = -1;
    int fromChild_ = -1;
    std::size_t got_ = 0;
};
