#!/bin/sh
# Trees with links, made on the host side: this Wine cannot make links.
#   make_links.sh DIR
# DIR/ancestor/sub/up leads back to DIR/ancestor; DIR/linked/root holds
# files that are links into the tree and out of it, and links and folders
# where backups go; DIR/names holds names only the host can make.
set -eu
dir="$1"
rm -rf "${dir}"
mkdir -p "${dir}/ancestor/sub" "${dir}/linked/root/y.yml.bak" "${dir}/linked/outside"
ln -s .. "${dir}/ancestor/sub/up"
gbk='\303\373\263\306: \267\376\316\361\306\367\r\n'   # 名称: 服务器
cd "${dir}/linked"
for f in root/real.yml root/x.yml root/y.yml root/aux.yml outside/shared.yml; do printf "${gbk}" >"${f}"; done
printf 'victim\n' >outside/victim.bak
printf 'keep\n' >root/y.yml.bak/keep.txt
ln -s real.yml root/alias.yml
ln -s ../outside/shared.yml root/out.yml
ln -s ../outside/victim.bak root/x.yml.bak

# Names only the host can make: a character GBK cannot hold, a plain file
# whose name ends in a dot beside the file without it, and two files whose
# names differ only in case.
mkdir -p "${dir}/names/twins"
cd "${dir}/names"
printf "${gbk}" >"$(printf 'smile\360\237\230\200.yml')"
printf "${gbk}" >x.yml
printf 'dot\n' >x.yml.
printf "${gbk}" >twins/a.yml
printf '\345\220\215\347\247\260\n' >twins/A.YML   # UTF-8, never converted
