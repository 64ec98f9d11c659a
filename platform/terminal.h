// Whether a person watches a stream: progress is shown only to one.
#pragma once

namespace platform {

bool StandardErrorIsTerminal();

}  // namespace platform
