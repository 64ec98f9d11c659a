#include "framework/image_resource.h"

#include <map>

namespace {

// Function-local so that registrations from other translation units' static initialisers
// find it constructed.
std::map<int, std::span<const unsigned char>>& Registry() {
    static std::map<int, std::span<const unsigned char>> images;
    return images;
}

}  // namespace

void RegisterImageResource(int id, const unsigned char* data, std::size_t size) {
    Registry().insert_or_assign(id, std::span<const unsigned char>(data, size));
}

std::optional<std::span<const unsigned char>> FindImageResource(int id) {
    const auto found = Registry().find(id);
    if (found == Registry().end()) {
        return std::nullopt;
    }
    return found->second;
}
