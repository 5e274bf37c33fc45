#pragma once
// A customer list: Brazilian names and the cities they live in.

#include "Random.h"

#include <ostream>

/// Writes `rows` customers as CSV with a typed header, deterministically from `random`.
void writeCustomers(std::ostream& out, Random& random, int rows);
