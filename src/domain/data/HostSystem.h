#pragma once
// The system the program runs on, for the few things that differ between Windows and the
// others: folder names, the call-book program, the check-in file's encoding. The functions
// that decide them take the system as an argument, so both ways are tested on either system.
enum class HostSystem { Windows, Unix };

constexpr HostSystem thisSystem()
{
#ifdef _WIN32
    return HostSystem::Windows;
#else
    return HostSystem::Unix;
#endif
}
