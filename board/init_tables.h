// Tables computed once at initialisation.
#pragma once

void init_hash_codes();
void init_distance();
// Fills next_square / next_direction, which must be allocated.
void init_ray_tables();
