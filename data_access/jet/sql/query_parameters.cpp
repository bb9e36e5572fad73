#include <algorithm>

#include "data_access/jet/sql/bind_environment.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

const ParameterDeclaration* FindDeclaration(const BindEnvironment& environment,
                                            const std::string& name) {
  for (const ParameterDeclaration& declaration : environment.declared) {
    if (NamesEqual(declaration.name, name)) return &declaration;
  }
  return nullptr;
}

const Value* FindValue(const BindEnvironment& environment, const std::string& name) {
  if (!environment.values) return nullptr;
  const auto found = environment.values->find(name);
  return found == environment.values->end() ? nullptr : &found->second;
}

void NoteMissing(BindEnvironment& environment, const std::string& name) {
  for (const std::string& missing : environment.missing) {
    if (NamesEqual(missing, name)) return;
  }
  environment.missing.push_back(name);
}

// A value given for a declared parameter takes the declared type, as Access
// converts what the user typed: "1/31/1995" for a DateTime becomes a date, 70000
// for a Short overflows.
Value ConvertParameter(const Value& value, const ParameterDeclaration& declaration) {
  if (declaration.valueOnly) return value;
  Value converted = ConvertToType(value, declaration.type);
  if (const auto* whole = std::get_if<std::int64_t>(&converted)) {
    switch (declaration.type) {
      case JetType::Byte:
        CheckedInteger(*whole, 0, 255);
        break;
      case JetType::Integer:
        CheckedInteger(*whole, -32768, 32767);
        break;
      case JetType::Long:
        CheckedInteger(*whole, -2147483648LL, 2147483647LL);
        break;
      default:
        break;
    }
  }
  return converted;
}

ExprType DeclaredType(const ParameterDeclaration& declaration) {
  if (declaration.valueOnly) return ExprType{};
  ExprType type = TypeOf(declaration.type);
  if (declaration.type == JetType::Text) {
    type.size = declaration.size ? declaration.size : kComputedTextSize;
  }
  return type;
}

}  // namespace

bool BindParameter(Expr& expr, BindEnvironment& environment) {
  const ParameterDeclaration* declaration = FindDeclaration(environment, expr.name);
  if (!declaration && !expr.bracketed && !expr.formControl) return false;
  if (!expr.qualifier.empty()) return false;
  if (!declaration) {
    const bool seen = std::any_of(
        environment.undeclared.begin(), environment.undeclared.end(),
        [&](const BindEnvironment::Use& use) { return NamesEqual(use.name, expr.name); });
    if (!seen) {
      const std::size_t position =
          environment.savedQueries.empty() ? expr.position : environment.anchor;
      environment.undeclared.push_back({position, expr.name});
    }
  }
  const Value* value = FindValue(environment, expr.name);
  expr.kind = ExprKind::Literal;
  if (!value) {
    NoteMissing(environment, expr.name);
    expr.literal = Null{};
    expr.type = declaration ? DeclaredType(*declaration) : ExprType{};
    return true;
  }
  if (declaration) {
    try {
      expr.literal = ConvertParameter(*value, *declaration);
    } catch (QueryError& error) {
      // A value that does not fit its declared type is the caller's mistake.
      QueryError wrong(QueryError::Kind::Command,
                       error.message() + " in the value of parameter '" + expr.name + "'", true);
      throw wrong;
    }
    expr.type = DeclaredType(*declaration);
    if (!expr.type.type) expr.type = TypeOfLiteral(expr.literal);
  } else {
    expr.literal = *value;
    expr.type = TypeOfLiteral(expr.literal);
  }
  return true;
}

void DeclareParameters(const std::vector<ParameterDeclaration>& declarations,
                       BindEnvironment& environment) {
  for (const ParameterDeclaration& declaration : declarations) {
    if (FindDeclaration(environment, declaration.name)) continue;
    environment.declared.push_back(declaration);
  }
}

void CheckParameterValues(BindEnvironment& environment) {
  // Access asks for every declared parameter, used or not.
  for (const ParameterDeclaration& declaration : environment.declared) {
    if (!FindValue(environment, declaration.name)) NoteMissing(environment, declaration.name);
  }
  if (environment.missing.empty() || environment.listing) return;
  throw QueryError(
      QueryError::Kind::Command,
      "Too few parameters. Expected " + std::to_string(environment.missing.size()) + ".", true);
}

std::vector<QueryParameterInfo> ParametersNeeded(const BindEnvironment& environment) {
  std::vector<QueryParameterInfo> needed;
  for (const ParameterDeclaration& declaration : environment.declared) {
    QueryParameterInfo info;
    info.name = declaration.name;
    if (!declaration.valueOnly) info.type = declaration.type;
    info.size = declaration.size;
    needed.push_back(std::move(info));
  }
  std::vector<BindEnvironment::Use> undeclared = environment.undeclared;
  std::stable_sort(undeclared.begin(), undeclared.end(),
                   [](const BindEnvironment::Use& a, const BindEnvironment::Use& b) {
                     return a.position < b.position;
                   });
  for (const BindEnvironment::Use& use : undeclared) {
    if (FindDeclaration(environment, use.name)) continue;
    QueryParameterInfo info;
    info.name = use.name;
    needed.push_back(std::move(info));
  }
  return needed;
}

}  // namespace tablift::jet
