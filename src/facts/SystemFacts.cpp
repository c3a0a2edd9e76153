#include "facts/SystemFacts.h"

namespace dorvanta {

SystemFactsRecord SystemFacts;

}  // namespace dorvanta
