#pragma once
// The product catalogue of a Brazilian supermarket, made up from tables of groups, products,
// brands and package sizes.

#include "Random.h"

#include <ostream>

/// Writes `rows` products as CSV with a typed header, deterministically from `random`.
void writeCatalogue(std::ostream& out, Random& random, int rows);
