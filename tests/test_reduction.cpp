// The passes from the normalised tree to the clause set.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "clauseset/S5shape.h"
#include "frontend/S5NFTrans.h"
#include "tests/FormulaText.h"

namespace {

// Compact rendering: atoms p1 / ~p1, junctions &(...) |(...), modalities [](..) <>(..).
std::string show(const mbASTNode* n) {
  switch (n->type) {
    case NT_ATOM: return "p" + std::to_string(n->atom);
    case NT_NOT: return "~" + show(n->children[0]);
    case NT_TRUE: return "T";
    case NT_FALSE: return "F";
    default: break;
  }
  std::string head = n->type == NT_ROOT ? "" : n->type == NT_AND ? "&" : n->type == NT_OR ? "|"
                   : n->type == NT_BOX ? "[]" : "<>";
  std::string s = head + "(";
  for (size_t i = 0; i < n->children.size(); i++) s += (i ? "," : "") + show(n->children[i]);
  return s + ")";
}

struct Reducer {
  S5NFTrans trans;
  mbASTNode* mb = nullptr;
  explicit Reducer(const std::string& formula) {
    ASTNode* root = parseText("begin " + formula + " end");
    trans.removeImply(root);
    trans.trans2NNF(root);
    trans.removeTF(root);
    mb = trans.trans2MultiBranchAST(root);
  }
  std::string pass() {
    trans.dfsReduct(mb);
    return show(mb);
  }
};

std::string clauseText(const S5clauSet& cs) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  cs.printClauSet(f);
  std::fclose(f);
  std::string s(buf, len);
  free(buf);
  return s;
}

S5clauSet clausesOf(const std::string& formula, int* result = nullptr) {
  S5NFTrans trans;
  S5clauSet cs;
  int r = trans.trans2NF(cs, parseText("begin " + formula + " end"));
  if (result) *result = r;
  return cs;
}

TEST(ReductionRules, EachRuleOnItsSmallestTree) {
  EXPECT_EQ(Reducer("[r1][r1]p1").pass(), "([](p1))");
  EXPECT_EQ(Reducer("<r1>[r1]p1").pass(), "([](p1))");
  EXPECT_EQ(Reducer("[r1]<r1>p1").pass(), "(<>(p1))");
  EXPECT_EQ(Reducer("[r1](p1 & p2)").pass(), "(&([](p1),[](p2)))");
  EXPECT_EQ(Reducer("p3 & [r1](p1 & p2)").pass(), "(&(p3,[](p1),[](p2)))");
  EXPECT_EQ(Reducer("[r1](p1 | [r1]p2)").pass(), "(|([](p2),[](p1)))");
  EXPECT_EQ(Reducer("[r1](<r1>p1 | [r1]p2)").pass(), "(|(<>(p1),[](p2)))");
  EXPECT_EQ(Reducer("<r1>(p1 & [r1]p2)").pass(), "(&([](p2),<>(p1)))");
  EXPECT_EQ(Reducer("<r1>(p1 | p2)").pass(), "(|(<>(p1),<>(p2)))");
  EXPECT_EQ(Reducer("p1 | (p2 & p3)").pass(), "(&(|(p1,p2),|(p1,p3)))");
  EXPECT_EQ(Reducer("p1 | ((p2 | p3) & p4)").pass(), "(&(|(p1,p2,p3),|(p1,p4)))");
  EXPECT_EQ(Reducer("p1 & (p2 | (p3 & p4))").pass(), "(&(p1,|(p2,p3),|(p2,p4)))");
}

TEST(ReductionRules, ModalChainsCollapseToTheInnermostModality) {
  std::string chain;
  for (int i = 0; i < 50; i++) chain += i % 2 ? "<r1>" : "[r1]";
  EXPECT_EQ(Reducer(chain + "p1").pass(), "(<>(p1))");
}

TEST(ClauseNaming, WorkedExampleDefiningClauses) {
  Reducer r("p4 & <r1>((p1 | p2) & (p3 | [r1]p4))");
  r.trans.maxAtom = 4;
  while (!isS5CNF(r.mb)) r.pass();
  EXPECT_EQ(r.trans.maxAtom, 7);
  EXPECT_EQ(clauseText(r.trans.clauSet),
            "c ===== S5-NF-PRINT =====\n"
            "0: \tBox(-5,1,2)\n1: \tBox(5,-1)\n2: \tBox(5,-2)\n"
            "3: \tBox(-6)\tBox(4)\n4: \tDiam(-4)\tBox(6)\n"
            "5: \tBox(-7,3,6)\n6: \tBox(7,-3)\n7: \tBox(7,-6)\n");
  EXPECT_EQ(show(r.mb), "(&(p4,<>(&(p5,p7))))");
}

TEST(ClauseNaming, LiteralConjunctsAndModalJunctionsAreNamed) {
  // A literal beside a disjunction under a Diamond used to loop for ever.
  int result = -1;
  S5clauSet cs = clausesOf("<r1>(p1 & (p2 | p3))", &result);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(clauseText(cs),
            "c ===== S5-NF-PRINT =====\n"
            "0: \tBox(-4,1)\n1: \tBox(4,-1)\n2: \tBox(-5,2,3)\n3: \tBox(5,-2)\n4: \tBox(5,-3)\n"
            "5: \tDiam(4,5)\n");
  // A Box over a disjunction inside a named clause gets a rigid atom, no error.
  cs = clausesOf("<r1>((p1 | [r1](p2 | p3)) & (p4 | p5))", &result);
  EXPECT_EQ(result, 2);
  const std::string head =
      "c ===== S5-NF-PRINT =====\n"
      "0: \tBox(-6)\tBox(2,3)\n1: \tDiam(-2,-3)\tBox(6)\n2: \tBox(-7,1,6)\n";
  EXPECT_EQ(clauseText(cs).substr(0, head.size()), head);
  // A Diamond over literals alone is an S5 literal and is never renamed.
  cs = clausesOf("<r1>(p1 & ~p2)", &result);
  EXPECT_EQ(clauseText(cs), "c ===== S5-NF-PRINT =====\n0: \tDiam(-2,1)\n");
}

TEST(ClauseNaming, EqualModalLiteralsShareOneAtom) {
  // One rigid atom for both copies of [r1]p4, defined once.
  EXPECT_EQ(clauseText(clausesOf("<r1>((p1 | [r1]p4) & (p2 | [r1]p4))")),
            "c ===== S5-NF-PRINT =====\n0: \tBox(-5)\tBox(4)\n1: \tDiam(-4)\tBox(5)\n"
            "2: \tBox(-6,1,5)\n3: \tBox(6,-1)\n4: \tBox(6,-5)\n5: \tBox(-7,2,5)\n6: \tBox(7,-2)\n7: \tBox(7,-5)\n"
            "8: \tDiam(6,7)\n");
  // An equal Diamond takes the clause names of the first; the Diamond, now in
  // two clauses, becomes one atom with one Diamond clause.
  EXPECT_EQ(clauseText(clausesOf("(p1 | <r1>((p2 | p3) & p4)) & (p5 | <r1>((p3 | p2) & p4))")),
            "c ===== S5-NF-PRINT =====\n0: \tBox(-6,2,3)\n1: \tBox(6,-2)\n2: \tBox(6,-3)\n3: \tBox(-7,4)\n"
            "4: \tBox(7,-4)\n5: \t1\t8\n6: \t5\t8\n7: \tBox(-8)\tDiam(6,7)\n");
  // Members compare as sets; a modal literal that has a rigid atom takes it.
  EXPECT_EQ(clauseText(clausesOf("(<r1>p1 | p2) & (<r1>(p1 & p1) | p3) & [r1]p4")),
            "c ===== S5-NF-PRINT =====\n0: \tBox(4)\n1: \t5\t2\n2: \t5\t3\n3: \tBox(-5)\tDiam(1)\n");
  EXPECT_EQ(clauseText(clausesOf("<r1>((p1 | [r1]p4) & p2) & ([r1]p4 | p3)")),
            "c ===== S5-NF-PRINT =====\n0: \tBox(-5)\tBox(4)\n1: \tDiam(-4)\tBox(5)\n"
            "2: \tBox(-6,1,5)\n3: \tBox(6,-1)\n4: \tBox(6,-5)\n5: \tBox(-7,2)\n6: \tBox(7,-2)\n"
            "7: \tDiam(6,7)\n8: \t5\t3\n");
}

TEST(Extraction, LiteralsAreSortedAndRepeatsDropped) {
  S5clauSet cs = clausesOf("(p1 | p1) & (p1 | p2) & (p1 | p2) & (p2 | p1) & [r1](p2 | ~p1) & <r1>(p1 & p1)");
  EXPECT_EQ(clauseText(cs),
            "c ===== S5-NF-PRINT =====\n"
            "0: \tDiam(1,1)\n1: \tBox(-1,2)\n2: \t2\t1\n3: \t1\t2\n4: \t1\n");
  EXPECT_EQ(cs.diamClauses, (std::vector<int>{0}));
  cs = clausesOf("p1 | ~p1 | [r1](p1 | p2) | [r1](p2 | p1)");
  EXPECT_EQ(clauseText(cs), "c ===== S5-NF-PRINT =====\n0: \tBox(1,2)\t1\t-1\n");
  int result = -1;
  clausesOf("p1 & ~true", &result);
  EXPECT_EQ(result, 0);
  clausesOf("p1 | true", &result);
  EXPECT_EQ(result, 1);
}

// A formula in S5-CNF shape already is read from the binary tree; the
// clauses and their order must be those of the multi-branch tree.
TEST(Extraction, FormulasInNormalFormReadAsFromTheMultiBranchTree) {
  for (const char* f : {"((p1 | p2) | (~p3 | [r1](p4 | (p5 | ~p6)))) & (((p7 & <r1>(p1 & (p2 & ~p3))) & (p2 | p2)) & p9)",
                        "(p3 | (p1 | p2)) & ((p4 & p5) & (p6 & ([r1]~p1 | <r1>p2)))", "[r1]((p2 | p1) | p3)"}) {
    Reducer r(f);
    ASSERT_TRUE(isS5CNF(r.mb)) << f;
    EXPECT_EQ(clauseText(clausesOf(f)), clauseText(r.trans.parseS5CNF(r.mb))) << f;
  }
}

TEST(Extraction, DeeplyNestedFormulasDoNotExhaustTheStack) {
  std::string deep;
  for (int i = 0; i < 100000; i++) deep += i % 3 == 0 ? "[r1](p1 | " : i % 3 == 1 ? "<r1>(p2 & " : "~~(";
  deep += "p3";
  for (int i = 0; i < 100000; i++) deep += ")";
  int result = -1;
  S5clauSet cs = clausesOf("[r1][r1]" + std::string(2000, '~') + "p1", &result);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(clauseText(cs), "c ===== S5-NF-PRINT =====\n0: \tBox(1)\n");
  Reducer r(deep);
  EXPECT_FALSE(isS5CNF(r.mb));
  r.trans.dfsReduct(r.mb);  // one pass over a tree 100 000 levels deep
  EXPECT_EQ(r.mb->children.size(), 1u);
}

}  // namespace
