#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/writer/relationship_design.h"

namespace tablift::jet {

// MSysRelationships.grbit bits, as DAO names them.
constexpr std::int32_t kRelationUnique = 0x00000001;
constexpr std::int32_t kRelationDontEnforce = 0x00000002;
constexpr std::int32_t kRelationUpdateCascade = 0x00000100;
constexpr std::int32_t kRelationDeleteCascade = 0x00001000;

// The MSysRelationships rows of a relationship, one per column pair; the
// names are taken as the design spells them. `oneToOne` when the
// referencing columns are unique themselves.
std::vector<std::vector<Value>> RelationshipRows(const RelationshipDesign& design, bool oneToOne);

}  // namespace tablift::jet
