#pragma once

#include <cstdint>
#include <string>

// Writes a talk table of count entries in the packed layout that the writer
// produces (so writing it back gives the same bytes): texts of about 60
// bytes (Latin and Cyrillic words), one in ten empty; a quarter with a sound
// reference, most of those with a duration. The same count always gives the
// same file. Streams through two small buffers, so a file of 16.7 million
// entries needs no more memory than one of ten. Returns the file's size.
std::uint64_t writeSampleTlk(const std::string& path, std::uint32_t count);
