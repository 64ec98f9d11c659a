#include "framework/dialog_template.h"

#include <map>

namespace {

// Function-local so that registrations from other translation units' static initialisers
// find it constructed. Map nodes never move, so the pointers handed out stay valid.
std::map<UINT, DialogTemplate>& Registry() {
    static std::map<UINT, DialogTemplate> templates;
    return templates;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    Registry().insert_or_assign(dialogTemplate.id, dialogTemplate);
}

const DialogTemplate* FindDialogTemplate(UINT id) {
    const auto found = Registry().find(id);
    return found == Registry().end() ? nullptr : &found->second;
}
