# Checks shared by the online tiers: what voltrax_online_probe runs must show. Sourced,
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

# watched W MAKER PATH [window]: the watcher W ended by itself within 30 s of its match
# (a window: printed its match's line within 30 s and is then closed), on the path PATH
# and with the state hash of MAKER's match.
watched() {
  local w="$1" m="$2" path="$3" pid hw hm
  pid=$(eval echo "\$${w}_pid")
  if [ "${4:-}" = window ]; then
    for _ in $(seq 300); do grep -qs "state hash" "$work/$w.out" && break; sleep 0.1; done
    kill "$pid" 2>/dev/null
    wait "$pid"
  else
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { fail "$w: still watching after the match"; kill "$pid"; }
    wait "$pid" || fail "$w: $(cat "$work/$w.err")"
  fi
  hw=$(grep -o "state hash [0-9a-f]*" "$work/$w.out") hm=$(grep -o "state hash [0-9a-f]*" "$work/$m.out")
  [ -n "$hw" ] && [ "$hw" = "$hm" ] || fail "$w: not the players' hash: '$hw' '$hm'"
  grep -qx "path=$path" "$work/$w.out" || fail "$w: not path=$path: $(head -1 "$work/$w.out")"
  grep -qx "watchers 1" "$work/$m.out" || fail "$m: did not carry its watcher: $(grep "^watchers" "$work/$m.out")"
  echo "$w: $(tail -1 "$work/$w.out")"
}
