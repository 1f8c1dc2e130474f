// First sets and trial ids shared by the grammar files.
#pragma once

#include "pascal/token_kinds.h"

namespace quennet::pascal::grammar {

// Words that Ident accepts besides identifiers.
inline constexpr TokenSet kIdentWords = TokenSet{tIdentifier, tIndex, tName, tForward, tExternal}
                                            .AddRange(tCdecl, tAbstract)
                                            .AddRange(tPublic, tNoDefault);

inline constexpr TokenSet kExprStart =
    kIdentWords | TokenSet{tLBrack, tInteger, tReal,        tString,     tCharConst,  tLParen,
                           tPlus,   tFile,    tShortString, tAnsiString, tWideString, tStringKw,
                           tMinus,  tNil,     tNot,         tAt};

// Words that the modern reading also accepts as names: directives only in package files or in
// one place of a declaration.
inline constexpr TokenSet kModernIdentWords =
    kIdentWords | TokenSet{tContains, tRequires, tPackage, tResident, tOut, tAbsolute, tImplements};
inline constexpr TokenSet kModernExprStart = kExprStart | kModernIdentWords;

inline constexpr TokenSet kDirectiveStart = TokenSet{}.AddRange(tCdecl, tAbstract);
inline constexpr TokenSet kCallConv = TokenSet{}.AddRange(tCdecl, tAssembler);
inline constexpr TokenSet kStringWords = {tShortString, tAnsiString, tWideString, tStringKw};

inline constexpr TokenSet kBlockStart = {
    tBegin, tLabel,     tConst, tResourceString, tType,      tClass, tFunction, tProcedure,
    tVar,   tThreadVar, tAsm,   tConstructor,    tDestructor};
inline constexpr TokenSet kInterfaceDeclStart = {
    tConst, tResourceString, tType, tFunction, tProcedure, tVar, tThreadVar};
inline constexpr TokenSet kImplDeclStart =
    kInterfaceDeclStart | TokenSet{tLabel, tClass, tConstructor, tDestructor};

inline constexpr TokenSet kVisibilityWords = {tPublic, tProtected, tPrivate, tPublished,
                                              tAutomated};
inline constexpr TokenSet kClassMemberStart =
    kIdentWords | TokenSet{tClass, tFunction, tProcedure, tConstructor, tDestructor, tProperty};
inline constexpr TokenSet kInterfaceMemberStart = {tClass,       tFunction,   tProcedure,
                                                   tConstructor, tDestructor, tProperty};
inline constexpr TokenSet kInterfaceBodyStart =
    kInterfaceMemberStart | TokenSet{tLParen, tLBrack, tEnd};
inline constexpr TokenSet kPropertyWithoutType = {tSemicolon, tIndex,     tDispId,    tRead,
                                                  tReadOnly,  tWrite,     tWriteOnly, tStored,
                                                  tDefault,   tNoDefault, tImplements};

inline constexpr TokenSet kRelOps = {tIn,        tEqual,        tGreater,  tLess,
                                     tLessEqual, tGreaterEqual, tNotEqual, tIs};
inline constexpr TokenSet kAddOps = {tPlus, tMinus, tOr, tXor};
inline constexpr TokenSet kMulOps = {tStar, tSlash, tDiv, tMod, tAnd, tShl, tShr};

// Each place that opens a trial has its own id; the recursion guard compares them.
enum TrialId : int32_t {
    kTrialTypeDeclClass = 1,
    kTrialParamArray,
    kTrialVirtualExpr,
    kTrialVisibility,
    kTrialMethodDirective,
    kTrialObjectMethodDirective,
    kTrialProperty,
    kTrialPropertyDefault,
    kTrialFieldListField,
    kTrialFieldListVariant,
    kTrialVariant,
    kTrialTypeString,
    kTrialTypeFile,
    kTrialSimpleType,
    kTrialOrdinalType,
    kTrialIndexType,
    kTrialSetType,
    kTrialProcTypeConvention,
    kTrialRelOp,
    kTrialFactor,
    kTrialTypedConstant,
    kTrialModernRecord,
    kTrialModernMember,
    kTrialModernDirective,
    kTrialTypeArgs,
    kTrialModernVisibility,
    kTrialMethodResolution,
};

// Error codes for productions that find no fitting alternative (119 and up).
enum ProductionCode : int32_t {
    kErrSourceFile = 119,
    kErrIdent,
    kErrStringSeq,
    kErrInitSection,
    kErrConstDecl,
    kErrProcHeading,
    kErrImplRoutine,
    kErrImplBody,
    kErrTypeIdent,
    kErrDirective,
    kErrBlock,
    kErrLocalDecl,
    kErrClassMember,
    kErrVisibility,
    kErrMethodHeading,
    kErrType,
    kErrSimpleType,
    kErrStringType,
    kErrStructType,
    kErrIndexType,
    kErrSetType,
    kErrCallConv,
    kErrFactor,
    kErrTypedConstant,
    kErrTryBlock,
    kErrNestedBlock,
    kErrRelOp,
    kErrModernMember,
};

} // namespace quennet::pascal::grammar
