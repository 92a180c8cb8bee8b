// Whether two paths name the same existing file, so that a writer never truncates its input.
#pragma once

#include <string>

bool SameFile(const std::string& a, const std::string& b);
