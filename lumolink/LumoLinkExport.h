#pragma once

// lumolink is built with hidden symbols; only what carries this mark is its interface.
#define LUMOLINK_API __attribute__((visibility("default")))
