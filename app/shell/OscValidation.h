#pragma once
// Structural check of an OSC packet before it is parsed: every string terminated and padded
// inside the packet, every argument and bundle element inside its bounds. The OSC library trusts
// the lengths it reads, so a datagram is only handed to it after this check.

#include <cstddef>

bool isWellFormedOscPacket(const char* data, std::size_t size);
