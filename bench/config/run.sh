#!/usr/bin/env bash
# Times ZorvaneConf's start under Wine, on the installed program: started on each page, with 10 and 20,000 hosts
# in both host files.
. "$(dirname "$0")/../wine-bench.sh"
run_bench conf_start_bench
