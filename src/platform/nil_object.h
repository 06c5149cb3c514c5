#pragma once
// Using an object that is not there raises NilObjectException; the top-level handler
// catches it, so a missing record set or field ends one handler, never the program.
#include <stdexcept>

class NilObjectException : public std::runtime_error {
public:
    NilObjectException() : std::runtime_error("NilObjectException") {}
};

// Returns p, or throws NilObjectException when p is null.
template <class T>
T* NilCheck(T* p)
{
    if (!p) throw NilObjectException();
    return p;
}
