# Turns callgrind's dumps from `pexo_bench --instructions` (one dump per
# measured stretch, named "CASE | SIDE") into a Markdown table on standard
# output and CSV into the file given as -v csv=PATH. Files must come in dump
# order.
BEGIN { FS = "\n" }
/^desc: Trigger: Client Request: / {
  label = substr($0, length("desc: Trigger: Client Request: ") + 1)
  split(label, parts, " \\| ")
  name = parts[1]; side = parts[2]
  if (!(name in seen)) { seen[name] = 1; order[++count] = name }
}
/^summary: / {
  value = substr($0, length("summary: ") + 1) + 0
  if (side == "plugin") plugin[name] = value; else if (side == "direct") direct[name] = value
}
END {
  print "| case | plug-in instructions | direct instructions | added | ratio direct/plug-in |"
  print "|---|---:|---:|---:|---:|"
  if (csv != "") print "case,plugin_instructions,direct_instructions,added,ratio" > csv
  for (i = 1; i <= count; i++) {
    name = order[i]
    if (!(name in plugin) || !(name in direct) || plugin[name] == 0) continue
    ratio = direct[name] / plugin[name]
    printf "| %s | %d | %d | %+d (%+.3f%%) | %.5f |\n", name, plugin[name], direct[name],
      plugin[name] - direct[name], (plugin[name] - direct[name]) * 100 / direct[name], ratio
    if (csv != "") {
      quoted = name; gsub(/"/, "\"\"", quoted)
      printf "\"%s\",%d,%d,%d,%.6f\n", quoted, plugin[name], direct[name], plugin[name] - direct[name], ratio > csv
    }
  }
}
