"""Formula files of Tarvel read independently of its C++ front end, turned
into first-order logic (SMT-LIB 2) by the standard translation, and
evaluated in finite S5 models. Used by bench/z3-check.

Everything here is iterative (explicit stacks), so deep nesting costs memory,
not Python recursion.

A formula is a Tree: parallel lists kind / left / right, node 0 the root.
Kinds: 'T' true, 'F' false, 'A' atom (left = atom number), '~' not,
'B' Box, 'D' Diamond, '&', '|', '>' implication, '=' equivalence. Binary
chains of '&' and '|' are kept binary here and flattened when written.
"""
import re

INT_MAX = 2**31 - 1


class FormulaError(Exception):
    """The file is not a formula; Tarvel must reject it as well."""


class Tree:
    def __init__(self):
        self.kind = []
        self.left = []
        self.right = []
        self.root = -1

    def add(self, kind, left=-1, right=-1):
        self.kind.append(kind)
        self.left.append(left)
        self.right.append(right)
        return len(self.kind) - 1

    def __len__(self):
        return len(self.kind)

    def atoms(self):
        return sorted({self.left[i] for i, k in enumerate(self.kind) if k == 'A'})

    def depth(self):
        """Nesting depth of the SMT-LIB term smt_term writes: a chain of the
        same '&' or '|' counts as one level."""
        best = 0
        stack = [(self.root, 1)]
        kind = self.kind
        while stack:
            n, d = stack.pop()
            best = max(best, d)
            k = kind[n]
            if k == 'A':
                continue
            for c in (self.left[n], self.right[n]):
                if c >= 0:
                    stack.append((c, d if k in '&|' and kind[c] == k else d + 1))
        return best

    def modal_depth(self):
        best = 0
        stack = [(self.root, 0)]
        while stack:
            n, d = stack.pop()
            k = self.kind[n]
            if k in 'BD':
                d += 1
            best = max(best, d)
            if k in '~BD&|>=':
                stack.append((self.left[n], d))
            if k in '&|>=':
                stack.append((self.right[n], d))
        return best


# --- scanner -----------------------------------------------------------------
# Mirrors the token set of the formula language: a comment runs to and
# including a newline, "\r" is accepted only right before "\n", modal
# operators may have blanks inside the brackets ("[ r 7 ]").
_TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*\n)
  | (?P<space>[ \t\n]+|\ *\r\n)
  | (?P<word>begin|end|true|false)
  | (?P<p>p)
  | (?P<num>[1-9][0-9]*)
  | (?P<iff><->)
  | (?P<imp>->)
  | (?P<dia><\ *r\ *[1-9][0-9]*\ *>)
  | (?P<box>\[\ *r\ *[1-9][0-9]*\ *\])
  | (?P<punct>[()|&~])
""", re.X)


# One-character codes of the operator tokens; other tokens stand as written.
TOKEN_CODES = {'p': 'p', 'iff': '=', 'imp': '>', 'dia': 'D', 'box': 'B'}


def tokens(text):
    pos = 0
    n = len(text)
    out = []
    while pos < n:
        m = _TOKEN.match(text, pos)
        if not m:
            raise FormulaError("lexical error at offset %d near %r" % (pos, text[pos:pos + 10]))
        kind = m.lastgroup
        value = m.group(kind)
        pos = m.end()
        if kind in ('comment', 'space'):
            continue
        if kind == 'num':
            if int(value) > INT_MAX:
                raise FormulaError("number too large")
            out.append(int(value))
        else:
            out.append(TOKEN_CODES.get(kind, value))
    return out


# Binding strength of the binary operators; all are left-associative.
PREC = {'>': 1, '=': 2, '|': 3, '&': 4}


def parse(text):
    """Parses `begin <formula> end`; a missing operand reads as false."""
    toks = tokens(text)
    if not toks or toks[0] != 'begin':
        raise FormulaError("file does not start with begin")
    t = Tree()
    operands = []
    ops = []  # binary operators, '(' markers and prefix kinds 'N', 'B', 'D'
    i = 1
    n = len(toks)
    expecting = True

    def reduce_binary():
        op = ops.pop()
        right = operands.pop()
        left = operands.pop()
        operands.append(t.add(op, left, right))

    def finish_operand():
        # Prefix operators bind tighter than every binary one.
        while ops and ops[-1] in ('N', 'B', 'D'):
            op = ops.pop()
            operands.append(t.add('~' if op == 'N' else op, operands.pop()))

    while True:
        if i >= n:
            raise FormulaError("missing end")
        tok = toks[i]
        if expecting:
            if tok == '~':
                ops.append('N')
                i += 1
            elif tok in ('B', 'D'):
                ops.append(tok)
                i += 1
            elif tok == '(':
                ops.append('(')
                i += 1
            elif tok == 'p':
                if i + 1 >= n or not isinstance(toks[i + 1], int):
                    raise FormulaError("p without a number")
                operands.append(t.add('A', toks[i + 1]))
                i += 2
                finish_operand()
                expecting = False
            elif tok in ('true', 'false'):
                operands.append(t.add('T' if tok == 'true' else 'F'))
                i += 1
                finish_operand()
                expecting = False
            elif tok in PREC or tok in (')', 'end'):
                operands.append(t.add('F'))  # empty operand, nothing consumed
                finish_operand()
                expecting = False
            else:
                raise FormulaError("unexpected token %r" % (tok,))
        else:
            if tok in PREC:
                q = PREC[tok]
                while ops and ops[-1] in PREC and PREC[ops[-1]] >= q:
                    reduce_binary()
                ops.append(tok)
                i += 1
                expecting = True
            elif tok == ')':
                while ops and ops[-1] in PREC:
                    reduce_binary()
                if not ops or ops[-1] != '(':
                    raise FormulaError("unbalanced )")
                ops.pop()
                i += 1
                finish_operand()
            elif tok == 'end':
                while ops and ops[-1] in PREC:
                    reduce_binary()
                if ops:
                    raise FormulaError("unclosed (")
                i += 1
                break
            else:
                raise FormulaError("unexpected token %r after an operand" % (tok,))
    if i != n:
        raise FormulaError("text after end")
    assert len(operands) == 1
    t.root = operands[0]
    return t


# --- SMT-LIB ------------------------------------------------------------------

_SMT_OP = {'&': 'and', '|': 'or', '>': '=>', '=': '='}


def _emit(start, visit):
    """Runs a printer on an explicit stack, so deep formulas need no
    recursion: ('txt', s) items are written as they stand, every other item
    goes to visit(item, out, stack), which writes text and pushes items."""
    out, stack = [], [start]
    while stack:
        item = stack.pop()
        if item[0] == 'txt':
            out.append(item[1])
        else:
            visit(item, out, stack)
    return "".join(out)


def smt_term(t, world="c0"):
    """The standard translation of t at the world constant `world`, as an
    SMT-LIB term. A Box or Diamond at modal depth d binds variable v<d>, so
    every atom refers to the innermost enclosing world. Chains of the same
    '&' or '|' become one n-ary term, which keeps the term shallow for long
    conjunctions."""
    kind, left, right = t.kind, t.left, t.right

    # ('node', n, d) writes node n at modal depth d.
    def visit(item, out, stack):
        _, n, d = item
        k = kind[n]
        w = world if d == 0 else "v%d" % d
        if k == 'A':
            out.append("(P%d %s)" % (left[n], w))
        elif k == 'T':
            out.append("true")
        elif k == 'F':
            out.append("false")
        elif k == '~':
            out.append("(not ")
            stack.append(('txt', ")"))
            stack.append(('node', left[n], d))
        elif k in 'BD':
            out.append("(%s ((v%d W)) " % ("forall" if k == 'B' else "exists", d + 1))
            stack.append(('txt', ")"))
            stack.append(('node', left[n], d + 1))
        elif k in '&|':
            parts = []
            todo = [n]
            while todo:
                m = todo.pop()
                if kind[m] == k:
                    todo.append(right[m])
                    todo.append(left[m])
                else:
                    parts.append(m)
            out.append("(%s" % _SMT_OP[k])
            stack.append(('txt', ")"))
            for m in reversed(parts):
                stack.append(('node', m, d))
                stack.append(('txt', " "))
        else:
            out.append("(%s " % _SMT_OP[k])
            stack.append(('txt', ")"))
            stack.append(('node', right[n], d))
            stack.append(('txt', " "))
            stack.append(('node', left[n], d))

    return _emit(('node', t.root, 0), visit)


def smt_declarations(t):
    lines = ["(declare-sort W 0)"]
    lines += ["(declare-fun P%d (W) Bool)" % a for a in t.atoms()]
    return "\n".join(lines) + "\n"


def smt_satisfiability(t, timeout_ms):
    """Script whose answer is sat iff t is S5-satisfiable."""
    return ("(set-option :timeout %d)\n" % timeout_ms + smt_declarations(t) +
            "(declare-const c0 W)\n(assert %s)\n(check-sat)\n" % smt_term(t))


def smt_validity(t, timeout_ms):
    """Script whose answer is unsat iff t is S5-valid."""
    return ("(set-option :timeout %d)\n" % timeout_ms + smt_declarations(t) +
            "(declare-const c0 W)\n(assert (not %s))\n(check-sat)\n" % smt_term(t))


def smt_model_completion(t, worlds, timeout_ms):
    """Script whose answer is sat iff the partial model `worlds` (a list of
    {atom: bool} per world; unlisted atoms free) can be completed so that t
    holds at world 0. The domain is exactly the listed worlds."""
    n = len(worlds)
    names = ["w%d" % k for k in range(n)]
    text = ["(set-option :timeout %d)\n" % timeout_ms, smt_declarations(t)]
    text += ["(declare-const %s W)\n" % x for x in names]
    if n > 1:
        text.append("(assert (distinct %s))\n" % " ".join(names))
    text.append("(assert (forall ((v W)) (or %s)))\n" %
                " ".join("(= v %s)" % x for x in names + names[:1]))
    used = set(t.atoms())
    for k, world in enumerate(worlds):
        for atom, value in sorted(world.items()):
            if atom in used:
                lit = "(P%d w%d)" % (atom, k)
                text.append("(assert %s)\n" % (lit if value else "(not %s)" % lit))
    text.append("(assert %s)\n(check-sat)\n" % smt_term(t, "w0"))
    return "".join(text)


# --- finite models ------------------------------------------------------------

def evaluate(t, worlds, default=False):
    """Truth of t in each world of the finite S5 model `worlds` (a list of
    {atom: bool}; unlisted atoms take `default`), as a bit mask: bit k set
    iff t holds at world k."""
    n = len(worlds)
    full = (1 << n) - 1
    kind, left, right = t.kind, t.left, t.right
    atom_mask = {}
    for a in t.atoms():
        m = 0
        for k, world in enumerate(worlds):
            if world.get(a, default):
                m |= 1 << k
        atom_mask[a] = m
    value = [0] * len(t)
    # Post-order without recursion: a node is visited twice, the second time
    # after its children.
    stack = [(t.root, False)]
    while stack:
        node, done = stack.pop()
        k = kind[node]
        if not done and k in '~BD&|>=':
            stack.append((node, True))
            stack.append((left[node], False))
            if k in '&|>=':
                stack.append((right[node], False))
            continue
        if k == 'A':
            v = atom_mask[left[node]]
        elif k == 'T':
            v = full
        elif k == 'F':
            v = 0
        elif k == '~':
            v = full & ~value[left[node]]
        elif k == 'B':
            v = full if value[left[node]] == full else 0
        elif k == 'D':
            v = full if value[left[node]] else 0
        elif k == '&':
            v = value[left[node]] & value[right[node]]
        elif k == '|':
            v = value[left[node]] | value[right[node]]
        elif k == '>':
            v = (full & ~value[left[node]]) | value[right[node]]
        else:
            v = full & ~(value[left[node]] ^ value[right[node]])
        value[node] = v
    return value[t.root]


# --- writing formulas ---------------------------------------------------------

def write(t, rng=None, extra_parens=0.0, spacing=False):
    """Formula text of t with only the parentheses precedence and
    left-associativity need (plus, with rng, some redundant ones and varied
    spelling of the modal operators), so reading it back exercises the
    precedence rules of the reader."""
    prec = {'>': 1, '=': 2, '|': 3, '&': 4}
    sym = {'>': ' -> ', '=': ' <-> ', '|': ' | ', '&': ' & '}
    def modal(k):
        r = rng.randint(1, 9) if rng and spacing and rng.random() < 0.3 else 1
        if rng and spacing and rng.random() < 0.2:
            return ("[ r %d ]" if k == 'B' else "< r %d >") % r
        return ("[r%d]" if k == 'B' else "<r%d>") % r

    # ('node', n, paren) writes node n, in parentheses when paren is set.
    def visit(item, out, stack):
        _, n, paren = item
        if not paren and rng is not None and extra_parens and rng.random() < extra_parens:
            paren = True
        k = t.kind[n]
        if paren:
            out.append("(")
            stack.append(('txt', ")"))
        if k == 'A':
            out.append("p%d" % t.left[n])
        elif k == 'T':
            out.append("true")
        elif k == 'F':
            out.append("()" if rng is not None and spacing and rng.random() < 0.1 else "false")
        elif k in '~BD':
            out.append("~" if k == '~' else modal(k))
            c = t.left[n]
            stack.append(('node', c, t.kind[c] in prec))
        else:
            p = prec[k]
            l, r = t.left[n], t.right[n]
            stack.append(('node', r, t.kind[r] in prec and prec[t.kind[r]] <= p))
            stack.append(('txt', sym[k]))
            stack.append(('node', l, t.kind[l] in prec and prec[t.kind[l]] < p))

    return _emit(('node', t.root, False), visit)
