# Checks shared by the online tiers: what two voltrax_online_probe runs must show. Sourced,
# not run; the caller defines $work (the probes' output folder), fail and each probe's
# NAME_pid.

# agree A B PATH [B'S PATH]: B may see another path (a guest cannot know "mapped"); a PATH
# may name several, "punched|relay".
agree() {
  local a="$1" b="$2" path="$3" path_b="${4:-$3}" ha hb
  wait "$(eval echo "\$${a}_pid")" || fail "$a: $(cat "$work/$a.err")"
  wait "$(eval echo "\$${b}_pid")" || fail "$b: $(cat "$work/$b.err")"
  ha=$(grep -o "state hash [0-9a-f]*" "$work/$a.out") hb=$(grep -o "state hash [0-9a-f]*" "$work/$b.out")
  [ -n "$ha" ] && [ "$ha" = "$hb" ] || fail "$a/$b: hashes differ: '$ha' '$hb'"
  grep -Eq "path=($path)\$" "$work/$a.out" || fail "$a: not path=$path: $(tail -1 "$work/$a.out")"
  grep -Eq "path=($path_b)\$" "$work/$b.out" || fail "$b: not path=$path_b: $(tail -1 "$work/$b.out")"
  echo "$a/$b: $(tail -1 "$work/$a.out")"
}
